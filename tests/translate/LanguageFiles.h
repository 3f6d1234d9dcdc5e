#pragma once

#include <QString>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace kwtest {

// A folder of its own under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        FPath = std::filesystem::temp_directory_path() /
                ("kw-translate-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(FPath);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    QString Path() const { return QString::fromStdString(FPath.string()); }

    QString Write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = FPath / name;
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        return QString::fromStdString(file.string());
    }

private:
    std::filesystem::path FPath;
};

// A language file in UTF-8 naming its language and holding the given form elements.
inline std::string LanguageXml(const std::string& language, const std::string& forms) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<translation>\n"
           "  <language>\n    <name>" +
           language +
           "</name>\n  </language>\n"
           "  <forms>\n" +
           forms + "  </forms>\n</translation>\n";
}

inline std::string FormXml(const std::string& formName, const std::string& body) {
    return "    <form name=\"" + formName + "\">\n" + body + "    </form>\n";
}

inline std::string VariablesXml(const std::string& items) {
    return "      <variables>\n" + items + "      </variables>\n";
}

} // namespace kwtest
