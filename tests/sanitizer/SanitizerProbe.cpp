// Does one fault on purpose, so that check-launcher.sh can see the sanitizer
// launcher report it: sanitizer_probe clean|leak|overflow|undefined. After
// the fault it prints "went on", which a halting sanitizer never lets it reach.
#include <cstdio>
#include <cstring>

namespace {

int* volatile kept = nullptr;

[[gnu::noinline]] void Leak() {
    kept = new int[16];
    kept[0] = 1;
    kept = nullptr;
}

// Made apart from the read, so that UBSan cannot know the array's size and
// the report is AddressSanitizer's own.
[[gnu::noinline]] int* FourValues() { return new int[4](); }

[[gnu::noinline]] int ReadPastTheEnd(int count) {
    int* values = FourValues();
    const int value = values[count];
    delete[] values;
    return value;
}

[[gnu::noinline]] int Overflow(int start) {
    volatile int value = start;
    return value + 1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* kind = argc > 1 ? argv[1] : "";
    if (std::strcmp(kind, "leak") == 0) Leak();
    else if (std::strcmp(kind, "overflow") == 0) std::printf("%d\n", ReadPastTheEnd(4));
    else if (std::strcmp(kind, "undefined") == 0) std::printf("%d\n", Overflow(0x7fffffff));
    else if (std::strcmp(kind, "clean") != 0) return 2;
    std::printf("went on\n");
    return 0;
}
