#include "tools/assetgen/pictures/Families.h"

namespace pondlark::assetgen {

void AddBonusPictures(std::vector<Sheet>& out) { (void)out; }

} // namespace pondlark::assetgen
