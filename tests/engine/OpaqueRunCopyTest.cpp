#include "engine/OpaqueRunCopy.h"
#include "engine/TDirectDrawSurface.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pondlark;

namespace {

constexpr uint32_t kUntouched = 0xABCDEF;

// A picture one row per run length, 1 to `width` pixels, each run starting where the length
// puts it, so that runs begin and end at every alignment of the destination.
struct RunPicture {
    int width;
    std::vector<uint32_t> pixels;
    std::vector<OpaqueRun> runs;
    std::vector<uint32_t> rowStart;

    explicit RunPicture(int w) : width(w), pixels(static_cast<size_t>(w) * w) {
        for (int y = 0; y < w; ++y) {
            const int length = y + 1, begin = (y * 7) % (w - length + 1);
            rowStart.push_back(static_cast<uint32_t>(runs.size()));
            runs.emplace_back(begin, begin + length);
            for (int x = 0; x < w; ++x)
                pixels[static_cast<size_t>(y) * w + x] = static_cast<uint32_t>(y << 12 | x);
        }
        rowStart.push_back(static_cast<uint32_t>(runs.size()));
    }
};

} // namespace

TEST(OpaqueRunCopy, CopiesEveryRunLengthAtEveryAlignmentAndNothingElse) {
    // Wider than the inline copy's threshold, so both copy routines see the lengths they take.
    const RunPicture pic(kWideRunPixels * 3 + 5);
    const int w = pic.width;
    struct Columns {
        int left, right;
    } cuts[] = {{0, w}, {0, w - 9}, {13, w}, {5, w - 3}, {0, kWideRunPixels}, {40, 41}};
    const int toPitch = w + 24;
    for (const Columns& cut : cuts)
        for (int shift = 0; shift < 8; ++shift) {
            std::vector<uint32_t> dst(static_cast<size_t>(toPitch) * w, kUntouched);
            OpaqueRunCopy job;
            job.from = pic.pixels.data() + cut.left;
            job.fromPitch = w;
            job.to = dst.data() + shift + 8;
            job.toPitch = toPitch;
            job.rows = w;
            job.runs = pic.runs.data();
            job.rowStart = pic.rowStart.data();
            job.left = cut.left;
            job.right = cut.right;
            job.wholeRows = cut.left == 0 && cut.right == w;
            CopyOpaqueRuns(job);
            for (int y = 0; y < w; ++y)
                for (int x = 0; x < toPitch; ++x) {
                    const int col = x - shift - 8 + cut.left;
                    const OpaqueRun run = pic.runs[static_cast<size_t>(y)];
                    const bool copied =
                        col >= cut.left && col < cut.right && col >= run.first && col < run.second;
                    const uint32_t want =
                        copied ? pic.pixels[static_cast<size_t>(y) * w + col] : kUntouched;
                    ASSERT_EQ(dst[static_cast<size_t>(y) * toPitch + x], want)
                        << "columns " << cut.left << ".." << cut.right << ", shift " << shift
                        << ", run length " << y + 1 << ", pixel " << x;
                }
        }
}

TEST(OpaqueRunCopy, AWidePictureDrawnOntoItselfReadsEveryPixelBeforeItIsOverwritten) {
    // One opaque run over the whole row, moved right within its own row: a forward copy
    // without regard for the overlap would repeat the first pixels along the row.
    const int w = kWideRunPixels * 4;
    TDirectDrawSurface s(w + 8, 2);
    for (int x = 0; x < w + 8; ++x) {
        s.SetPixel(x, 0, static_cast<uint32_t>(x + 1));
        s.SetPixel(x, 1, 0xFF00FF);
    }
    s.SetColorKey(0xFF00FF);
    for (int by : {1, 5, 8}) {
        std::vector<uint32_t> before;
        for (int x = 0; x < w + 8; ++x)
            before.push_back(s.Pixel(x, 0));
        s.Draw(by, 0, s, {0, 0, w, 1}, true);
        for (int x = 0; x < w + 8; ++x) {
            const uint32_t want = x < by || x >= by + w ? before[x] : before[x - by];
            ASSERT_EQ(s.Pixel(x, 0), want) << "moved by " << by << ", pixel " << x;
        }
    }
}
