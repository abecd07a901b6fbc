#include "tools/assetgen/pictures/Families.h"

namespace pondlark::assetgen {

void AddEnemyPictures(std::vector<Sheet>& out) { (void)out; }

} // namespace pondlark::assetgen
