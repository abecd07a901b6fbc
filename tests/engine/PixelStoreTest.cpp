#include "engine/PixelStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

using namespace pondlark;

TEST(PixelStore, ZeroFilledWritableAndMappedForHugePagesFromAMiB) {
    struct Case {
        size_t pixels;
        bool mapped;
    } cases[] = {{1, false},      {1000, false},     {(1 << 18) - 1, false},
                 {1 << 18, true}, {800 * 600, true}, {(1 << 19) + 3, true}};
    for (const Case& c : cases) {
        PixelStore s(c.pixels);
        ASSERT_NE(s.Data(), nullptr);
        EXPECT_EQ(s.Size(), c.pixels);
        EXPECT_EQ(s.HugePages(), c.mapped) << c.pixels;
        if (c.mapped) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(s.Data()) % (2u << 20), 0u)
                << "starts on a huge-page boundary";
        }
        EXPECT_TRUE(std::all_of(s.Data(), s.Data() + c.pixels, [](uint32_t p) { return p == 0; }));
        s.Data()[0] = 1;
        s.Data()[c.pixels - 1] = 2; // the last pixel is the store's own
        EXPECT_EQ(s.Data()[c.pixels - 1], 2u);
    }
}

TEST(PixelStore, MovesHandOverTheMemory) {
    PixelStore a(1 << 18), b(10);
    uint32_t* memory = a.Data();
    memory[5] = 7;
    b = std::move(a);
    EXPECT_EQ(b.Data(), memory);
    EXPECT_EQ(b.Size(), size_t{1} << 18);
    EXPECT_EQ(a.Data(), nullptr);
    PixelStore c(std::move(b));
    EXPECT_EQ(c.Data()[5], 7u);
    EXPECT_TRUE(c.HugePages());
    EXPECT_EQ(PixelStore(0).Data(), nullptr);
}
