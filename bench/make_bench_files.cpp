// Writes the benchmark's inputs into a folder:
//   zeros1, zeros2  4 MiB of zeros each; zeros2 has 0x01 at 0xFFFFF, the last
//                   byte of its first default buffer-full, so every shift
//                   test of a plain search runs far before it fails;
//   shift1, shift2  64 MiB of fixed-seed pseudo-random bytes (shift2), and
//                   the same behind 5 extra bytes (shift1).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

bool writeAll(const std::string& path, const std::vector<uint8_t>& head,
              const std::vector<uint8_t>& body) {
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = fwrite(head.data(), 1, head.size(), f) == head.size() &&
              fwrite(body.data(), 1, body.size(), f) == body.size();
    return fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_bench_files FOLDER\n");
        return 2;
    }
    std::string dir = argv[1];
    std::vector<uint8_t> zeros(4u << 20, 0), marked = zeros;
    marked[0xFFFFF] = 1;
    std::vector<uint8_t> random(64u << 20);
    uint64_t x = 0x9E3779B97F4A7C15u;
    for (auto& b : random) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        b = static_cast<uint8_t>(x >> 56);
    }
    std::vector<uint8_t> extra{0x5A, 0x45, 0x42, 0x52, 0x49}, none;
    if (!writeAll(dir + "/zeros1", none, zeros) || !writeAll(dir + "/zeros2", none, marked) ||
        !writeAll(dir + "/shift1", extra, random) || !writeAll(dir + "/shift2", none, random)) {
        fprintf(stderr, "make_bench_files: can't write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
