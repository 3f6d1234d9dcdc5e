#include "catalog/PictureLoader.h"

#include "gamecfg/Error.h"
#include "gamecfg/FileSys.h"

#include <array>
#include <csetjmp>
#include <cstdio> // before jpeglib.h, which uses FILE
#include <utility>

#include <jerror.h>
#include <jpeglib.h>

namespace kw {
namespace {

// A file of 50 KB can still declare a picture of gigabytes; inventory icons are
// a few hundred pixels wide, so anything beyond this is refused before allocating.
constexpr long long kMaxPixels = 1LL << 24;
// What the decoder may hold for the largest picture allowed; beyond it, it
// fails instead of asking for more.
constexpr long kMaxDecoderMemory = 256L << 20;

const std::array<std::pair<TPicList TPictureLists::*, const char*>, 5> kPictureFolders{{
    {&TPictureLists::Weapon, "images\\weapons"},
    {&TPictureLists::Ammo, "images\\ammo"},
    {&TPictureLists::Outfit, "images\\outfits"},
    {&TPictureLists::Art, "images\\arts"},
    {&TPictureLists::Item, "images\\items"},
}};

// libjpeg's default handlers print to stderr and call exit(); these jump back
// into the guarded step instead, keeping the text for the exception.
struct TJpegErrors {
    jpeg_error_mgr Base{};
    std::jmp_buf Jump{};
    char Text[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void JumpBack(j_common_ptr info) {
    auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
    info->err->format_message(info, errors->Text);
    std::longjmp(errors->Jump, 1);
}

// A truncated file only draws a warning from libjpeg, which then pads the
// picture with grey; here it is as invalid as a damaged header. Other warnings
// (stray bytes between segments and the like) leave the picture usable.
void OnMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        JumpBack(info);
    }
}

void Silent(j_common_ptr) {}

struct TDecompressor {
    jpeg_decompress_struct Info{};
    TJpegErrors Errors;

    TDecompressor() {
        Info.err = jpeg_std_error(&Errors.Base);
        Errors.Base.error_exit = JumpBack;
        Errors.Base.emit_message = OnMessage;
        Errors.Base.output_message = Silent;
    }
    ~TDecompressor() { jpeg_destroy_decompress(&Info); }
    TDecompressor(const TDecompressor&) = delete;
    TDecompressor& operator=(const TDecompressor&) = delete;
};

// Runs one libjpeg call sequence; longjmp lands here, so step must hold no
// objects with destructors of its own.
template <class Step> bool Guarded(TJpegErrors& errors, const Step& step) {
    if (setjmp(errors.Jump) != 0) {
        return false;
    }
    step();
    return true;
}

[[noreturn]] void ThrowInvalid(const std::string& path, const std::string& reason) {
    throw Error(path + ": not a valid JPEG picture (" + reason + ")");
}

template <class Step> void Run(TDecompressor& d, const std::string& path, const Step& step) {
    if (!Guarded(d.Errors, step)) {
        ThrowInvalid(path, d.Errors.Text);
    }
}

bool IsCmyk(J_COLOR_SPACE space) {
    return space == JCS_CMYK || space == JCS_YCCK;
}

// Adobe's encoder stores CMYK inverted (0 = full ink), which is what the
// Adobe marker announces; other encoders store it as is.
void CmykToRgb(std::vector<unsigned char>& pixels, bool inverted) {
    const size_t count = pixels.size() / 4;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* src = &pixels[i * 4];
        const unsigned k = inverted ? src[3] : 255 - src[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned ink = inverted ? src[c] : 255 - src[c];
            pixels[i * 3 + c] = static_cast<unsigned char>(ink * k / 255);
        }
    }
    pixels.resize(count * 3);
}

void Decode(const std::string& bytes, const std::string& path, TPic& pic) {
    TDecompressor d;
    jpeg_decompress_struct& info = d.Info;
    Run(d, path, [&] {
        jpeg_create_decompress(&info);
        info.mem->max_memory_to_use = kMaxDecoderMemory;
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                     static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&info, TRUE);
    });
    // Before the decoder starts: for a progressive picture it sets aside
    // memory for the whole image at once, gigabytes for a forged header.
    const long long pixels = static_cast<long long>(info.image_width) * info.image_height;
    if (pixels > kMaxPixels) {
        ThrowInvalid(path, "picture too large");
    }
    const bool cmyk = IsCmyk(info.jpeg_color_space);
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    Run(d, path, [&] { jpeg_start_decompress(&info); });

    const size_t stride = static_cast<size_t>(info.output_width) * info.output_components;
    std::vector<unsigned char> rows(stride * info.output_height);
    Run(d, path, [&] {
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = rows.data() + stride * info.output_scanline;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
    });
    if (cmyk) {
        CmykToRgb(rows, info.saw_Adobe_marker);
    }

    pic.Width = static_cast<int>(info.output_width);
    pic.Height = static_cast<int>(info.output_height);
    pic.Rgb = std::move(rows);
}

std::string NameWithoutFolderAndExtension(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

bool FitsSizeLimit(const std::string& path) {
    const auto size = fs::FileSize(path);
    return size && *size <= kMaxPictureFileSize;
}

} // namespace

void LoadFromFile(TPic& pic, const std::string& path) {
    // Compared with section names, which are windows-1251 bytes.
    pic.Name = fs::NameAsGameText(NameWithoutFolderAndExtension(path));
    pic.Width = pic.Height = 0;
    pic.Rgb.clear();
    const auto bytes = fs::ReadFile(path);
    if (!bytes) {
        throw Error(path + ": the picture file cannot be read");
    }
    Decode(*bytes, path, pic);
}

void LoadPictures(TPicList& list, const std::string& exeFolder, const std::string& folder) {
    list.clear();
    const std::string dir = exeFolder + folder;
    for (const std::string& name : fs::ListFiles(dir, "*.jpg")) {
        const std::string path = dir + "\\" + name;
        if (!FitsSizeLimit(path)) {
            continue;
        }
        auto pic = std::make_unique<TPic>();
        try {
            LoadFromFile(*pic, path);
        } catch (const std::exception&) {
            continue; // a broken picture only means an entry without one
        }
        list.push_back(std::move(pic));
    }
}

void LoadAllPictures(TPictureLists& lists, const std::string& exeFolder) {
    for (const auto& [member, folder] : kPictureFolders) {
        LoadPictures(lists.*member, exeFolder, folder);
    }
}

} // namespace kw
