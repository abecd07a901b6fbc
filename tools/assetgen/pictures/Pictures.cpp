#include "tools/assetgen/pictures/Pictures.h"

#include "tools/assetgen/pictures/Families.h"

#include <filesystem>
#include <stdexcept>

namespace pondlark::assetgen {

std::vector<Sheet> DrawAllPictures(const Fonts& fonts) {
    std::vector<Sheet> sheets;
    AddBackgroundPictures(sheets);
    AddLilyPictures(sheets);
    AddEnemyPictures(sheets);
    AddFrogPictures(sheets);
    AddInsectPictures(sheets);
    AddBonusPictures(sheets);
    AddScreenPictures(sheets, fonts);
    AddMenuWordPictures(sheets, fonts);
    return sheets;
}

const Sheet& FindSheet(const std::vector<Sheet>& sheets, const std::string& name) {
    for (const Sheet& s : sheets)
        if (s.name == name) return s;
    throw std::runtime_error("no picture named " + name);
}

void GeneratePictures(const std::string& gameDir, const std::string& contactSheetPath) {
    const Fonts fonts;
    const std::vector<Sheet> sheets = DrawAllPictures(fonts);
    const std::vector<uint8_t> archive = WriteGraphicArchive(ToPictureEntries(sheets));
    const std::filesystem::path data = std::filesystem::path(gameDir) / "Data";
    std::filesystem::create_directories(data);
    WriteFileAtomically((data / "Graphic.dxg").string(), archive);
    if (!contactSheetPath.empty()) {
        WriteContactSheet(sheets, fonts, contactSheetPath);
        WriteMockups(sheets, fonts, std::filesystem::path(contactSheetPath).parent_path().string());
    }
}

} // namespace pondlark::assetgen
