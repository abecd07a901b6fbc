#include "tools/assetgen/pictures/Families.h"

namespace pondlark::assetgen {
void WriteMockups(const std::vector<Sheet>& sheets, const Fonts& fonts,
                  const std::string& directory) {
    (void)sheets;
    (void)fonts;
    (void)directory;
}
} // namespace pondlark::assetgen
