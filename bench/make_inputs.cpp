// Writes the benchmark's input pairs into a folder, from a fixed seed, so that
// every machine compares the same bytes.
//
//   make_inputs DIR BIG ALL ALT SHIFTED TUNING
//
// sizes in MiB: BIG for the equal pair and the one-difference-per-MiB pair,
// ALL for the pair that differs in every byte, ALT for the pair that differs
// in every other byte, SHIFTED for the -s pair that is shifted by 1000 bytes,
// TUNING for the same three kinds again (equal, one difference per MiB, -s
// shifted by 20 bytes), compared under small -l1/-l2 settings.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr size_t mib = 1 << 20;

uint64_t state = 0x5EED2026C0FFEEULL;

uint64_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

void fill(std::vector<uint8_t>& chunk) {
    for (size_t i = 0; i < chunk.size(); i += 8) {
        uint64_t v = next();
        for (int k = 0; k < 8; k++)
            chunk[i + static_cast<size_t>(k)] = static_cast<uint8_t>(v >> (8 * k));
    }
}

FILE* create(const std::string& dir, const char* name) {
    std::string path = dir + "/" + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        perror(path.c_str());
        exit(1);
    }
    return f;
}

void put(FILE* f, const std::vector<uint8_t>& chunk) {
    if (fwrite(chunk.data(), 1, chunk.size(), f) != chunk.size()) {
        perror("write");
        exit(1);
    }
}

void finish(FILE* f) {
    if (fclose(f) != 0) {
        perror("close");
        exit(1);
    }
}

// eq1 == eq2; mib2 is eq1 with one byte changed in every MiB.
void makeBig(const std::string& dir, const char* n1, const char* n2, const char* nMib,
             size_t mibs) {
    FILE* a = create(dir, n1);
    FILE* b = create(dir, n2);
    FILE* c = create(dir, nMib);
    std::vector<uint8_t> chunk(mib);
    for (size_t k = 0; k < mibs; k++) {
        fill(chunk);
        put(a, chunk);
        put(b, chunk);
        size_t at = (k * 7919 + 4099) % mib;
        chunk[at] = static_cast<uint8_t>(chunk[at] ^ 0x5A);
        put(c, chunk);
    }
    finish(a);
    finish(b);
    finish(c);
}

// Two files whose bytes differ where mask is non-zero: every byte (stride 1)
// or every other byte (stride 2).
void makeDense(const std::string& dir, const char* n1, const char* n2, size_t mibs, size_t stride) {
    FILE* a = create(dir, n1);
    FILE* b = create(dir, n2);
    std::vector<uint8_t> chunk(mib);
    for (size_t k = 0; k < mibs; k++) {
        fill(chunk);
        put(a, chunk);
        for (size_t i = 0; i < mib; i += stride)
            chunk[i] = static_cast<uint8_t>(chunk[i] ^ (0x01 + (i >> 3 & 0x7F)));
        put(b, chunk);
    }
    finish(a);
    finish(b);
}

// -s, the adversarial pair: 4 MiB of zeros each, one late byte differing.
void makeAdversarial(const std::string& dir) {
    FILE* a = create(dir, "adv1");
    FILE* b = create(dir, "adv2");
    std::vector<uint8_t> chunk(4 * mib, 0);
    put(a, chunk);
    chunk[4 * mib - 10] = 1;
    put(b, chunk);
    finish(a);
    finish(b);
}

// -s, a shifted pair: file 2 is file 1 behind `extra` bytes of its own.
void makeShifted(const std::string& dir, const char* n1, const char* n2, size_t mibs,
                 size_t extra) {
    FILE* a = create(dir, n1);
    FILE* b = create(dir, n2);
    std::vector<uint8_t> head(extra);
    fill(head);
    put(b, head);
    std::vector<uint8_t> chunk(mib);
    for (size_t k = 0; k < mibs; k++) {
        fill(chunk);
        put(a, chunk);
        put(b, chunk);
    }
    finish(a);
    finish(b);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        fprintf(stderr, "usage: make_inputs DIR BIG ALL ALT SHIFTED TUNING (sizes in MiB)\n");
        return 2;
    }
    std::string dir = argv[1];
    makeBig(dir, "eq1", "eq2", "mib2", strtoul(argv[2], nullptr, 10));
    makeDense(dir, "all1", "all2", strtoul(argv[3], nullptr, 10), 1);
    makeDense(dir, "alt1", "alt2", strtoul(argv[4], nullptr, 10), 2);
    makeAdversarial(dir);
    makeShifted(dir, "shift1", "shift2", strtoul(argv[5], nullptr, 10), 1000);
    size_t tuning = strtoul(argv[6], nullptr, 10);
    makeBig(dir, "teq1", "teq2", "tmib2", tuning);
    makeShifted(dir, "tshift1", "tshift2", tuning, 20);
    return 0;
}
