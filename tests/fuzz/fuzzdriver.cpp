// Runs a libFuzzer-style target without libFuzzer: a fixed number of
// deterministic pseudo-random inputs plus a few hand-made edge inputs, so the
// target's invariants are checked in every test run. Built with clang and
// -DKELVRA_LIBFUZZER=ON the real fuzzer drives the same target instead.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    const long rounds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
    std::mt19937 random(20261206);
    std::vector<uint8_t> input;

    const uint8_t edges[] = {0x00, 0xFF, 0x06, 0x0A, 0x49, 0x57, 0x80, 0x81, 0xFE};
    for (uint8_t fill : edges) {
        for (size_t size : {size_t(0), size_t(1), size_t(16), size_t(38), size_t(255), size_t(256), size_t(300)}) {
            input.assign(size, fill);
            LLVMFuzzerTestOneInput(input.data(), input.size());
        }
    }
    for (long round = 0; round < rounds; ++round) {
        // Favour the lengths the target cares about, biased towards few distinct bytes.
        static const size_t sizes[] = {1, 16, 38, 256, 37, 39, 15, 17, 255, 257, 0, 64, 512, 1024, 1024};
        const size_t size = sizes[random() % (sizeof sizes / sizeof *sizes)];
        const int palette = 1 + int(random() % 8);
        input.resize(size);
        for (auto &byte : input)
            byte = palette == 8 ? uint8_t(random()) : edges[random() % palette];
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%ld inputs passed\n", rounds);
    return 0;
}
