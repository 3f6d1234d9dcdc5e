// The picture decoder on any bytes: a picture of the size it states, or kw::Error; never a message on the
// console, never an exit.

#include "ScratchFile.h"
#include "catalog/PictureLoader.h"
#include "gamecfg/Error.h"

#include <string>

using kw::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = kw::fuzz::WriteScratch("picture.jpg", kw::fuzz::AsString(data, size));
    kw::TPic pic;
    try {
        kw::LoadFromFile(pic, path);
    } catch (const kw::Error&) {
        Require(pic.Rgb.empty() && pic.Name == "picture");
        return 0;
    }
    Require(pic.Width > 0 && pic.Height > 0);
    Require(pic.Rgb.size() == static_cast<size_t>(pic.Width) * static_cast<size_t>(pic.Height) * 3);
    return 0;
}
