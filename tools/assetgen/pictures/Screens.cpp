#include "tools/assetgen/pictures/Families.h"

namespace pondlark::assetgen {

void AddScreenPictures(std::vector<Sheet>& out, const Fonts& fonts) { (void)out; (void)fonts; }

} // namespace pondlark::assetgen
