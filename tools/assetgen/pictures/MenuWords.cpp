#include "tools/assetgen/pictures/Families.h"

namespace pondlark::assetgen {

void AddMenuWordPictures(std::vector<Sheet>& out, const Fonts& fonts) { (void)out; (void)fonts; }

} // namespace pondlark::assetgen
