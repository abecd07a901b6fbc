#include "platform/TtfFont.h"

#include "platform/Files.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <memory>
#include <mutex>

namespace pondlark {
namespace {

// Windows-1252 to UTF-8: the game stores its texts in the Windows code page it was made for.
std::string ToUtf8(const std::string& text) {
    static const uint16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(text.size() + 8);
    for (unsigned char c : text) {
        unsigned code = c;
        if (c >= 0x80 && c < 0xA0) code = kHigh[c - 0x80];
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

class TtfFont final : public IFont {
public:
    // `font` reads from `bytes` for as long as it lives.
    TtfFont(TTF_Font* font, std::vector<uint8_t> bytes) : bytes_(std::move(bytes)), font_(font) {}
    ~TtfFont() override { TTF_CloseFont(font_); }
    TtfFont(const TtfFont&) = delete;
    TtfFont& operator=(const TtfFont&) = delete;

    TextBitmap Render(const std::string& text) override {
        TextBitmap bitmap;
        if (text.empty()) return bitmap;
        SDL_Color white{255, 255, 255, 255};
        SDL_Surface* s = TTF_RenderUTF8_Blended(font_, ToUtf8(text).c_str(), white);
        if (!s) return bitmap;
        SDL_Surface* rgba = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(s);
        if (!rgba) return bitmap;
        bitmap.width = rgba->w;
        bitmap.height = rgba->h;
        bitmap.coverage.resize(static_cast<size_t>(rgba->w) * rgba->h);
        SDL_LockSurface(rgba);
        for (int y = 0; y < rgba->h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch);
            for (int x = 0; x < rgba->w; ++x)
                bitmap.coverage[static_cast<size_t>(y) * rgba->w + x] =
                    static_cast<uint8_t>(row[x] >> 24);
        }
        SDL_UnlockSurface(rgba);
        SDL_FreeSurface(rgba);
        return bitmap;
    }

    int TextWidth(const std::string& text) override {
        int w = 0, h = 0;
        if (text.empty() || TTF_SizeUTF8(font_, ToUtf8(text).c_str(), &w, &h) != 0) return 0;
        return w;
    }

    int LineHeight() const override { return TTF_FontHeight(font_); }

private:
    std::vector<uint8_t> bytes_;
    TTF_Font* font_;
};

// The first face fontconfig offers for `pattern` as a file name; empty when it offers none.
std::string MatchFace(FcConfig* config, const char* pattern) {
    FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!wanted) return {};
    FcConfigSubstitute(config, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, wanted, &result);
    std::string file;
    FcChar8* name = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &name) == FcResultMatch && name)
        file = reinterpret_cast<const char*>(name);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(wanted);
    return file;
}

} // namespace

std::unique_ptr<IFont> OpenTtfFont(const std::string& path, int points) {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = TTF_Init() == 0; });
    if (!ready || points <= 0) return nullptr;
    // Read through the bounded reader, not by SDL_ttf from the path: a FIFO or a device in the
    // face's place must not hang or fill the memory.
    TFileBytes file = ReadRegularFile(path, kMaxFaceBytes);
    if (!file.ok || file.bytes.empty()) return nullptr;
    SDL_RWops* source = SDL_RWFromConstMem(file.bytes.data(), static_cast<int>(file.bytes.size()));
    if (!source) return nullptr;
    TTF_Font* font = TTF_OpenFontDPIRW(source, 1, points, 96, 96);
    if (!font) return nullptr;
    return std::make_unique<TtfFont>(font, std::move(file.bytes));
}

std::string FindFallbackFace() {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return {};
    // The game's own face where the system has it, else the system's bold sans face.
    std::string file;
    for (const char* pattern : {"Comic Neue:bold", "sans-serif:bold"}) {
        file = MatchFace(config, pattern);
        if (!file.empty() && TRegularFile(file).IsOpen()) break;
        file.clear();
    }
    FcConfigDestroy(config);
    return file;
}

std::string IPlatform::FallbackFacePath() {
    return FindFallbackFace();
}

} // namespace pondlark
