// One function per family of pictures; each appends its sheets to `out` in a fixed order.
#pragma once

#include "engine/ArchiveWriter.h"
#include "tools/assetgen/pictures/Kit.h"

#include <vector>

namespace pondlark::assetgen {

void AddFrogPictures(std::vector<Sheet>& out);       // frog, frogeat, tongue
void AddLilyPictures(std::vector<Sheet>& out);       // lily pads, strands
void AddEnemyPictures(std::vector<Sheet>& out);      // crocodile, stork
void AddInsectPictures(std::vector<Sheet>& out);     // food of the eating stage
void AddBonusPictures(std::vector<Sheet>& out);      // coin, life, ripples, splash
void AddBackgroundPictures(std::vector<Sheet>& out); // bg1, bg2, menu, stone, logs, sample
void AddMenuWordPictures(std::vector<Sheet>& out, const Fonts& fonts); // menu items and titles
void AddScreenPictures(std::vector<Sheet>& out, const Fonts& fonts);   // panels, bottle, marks

// Every picture of the game, in archive order.
std::vector<Sheet> DrawAllPictures(const Fonts& fonts);

// Finds a sheet by name (exact case); throws when absent.
const Sheet& FindSheet(const std::vector<Sheet>& sheets, const std::string& name);

// The archive items of the sheets: one 5-6-5 DIB each, frames as patterns, magenta key.
std::vector<PictureEntry> ToPictureEntries(const std::vector<Sheet>& sheets);

// Writes the contact sheet and, beside it, the screen mock-ups and single pictures.
void WriteContactSheet(const std::vector<Sheet>& sheets, const Fonts& fonts,
                       const std::string& path);
void WriteMockups(const std::vector<Sheet>& sheets, const Fonts& fonts,
                  const std::string& directory);

// Copies a sheet into a cairo ARGB surface, key pixels transparent. Caller destroys it.
cairo_surface_t* SheetSurface(const Sheet& sheet);

} // namespace pondlark::assetgen
