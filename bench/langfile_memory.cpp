// Peak memory of loading a language file of 100,000 everyday-length pairs in 100 lessons:
// prints the process's peak resident size before and after the load and the growth against
// the file's size. The file is generated first by streaming its coded bytes straight to disk,
// so the generation itself holds no more than a few bytes. Run it under /usr/bin/time -v to
// see the same peak from outside.
//
//   langfile_memory [PAIRS]
#include "data/LangFHandler.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/resource.h>

namespace {

long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Writes the coded form byte by byte: marker, lines with CR LF, checksum, rolling XOR.
class CodedWriter {
public:
    explicit CodedWriter(std::FILE* f) : f_(f) { Put(204); }
    void Line(const std::string& line) {
        for (const char c : line)
            Put(static_cast<std::uint8_t>(c));
        Put(13);
        Put(10);
    }
    void Finish() { Put(checksum_); }

private:
    void Put(std::uint8_t b) {
        checksum_ = static_cast<std::uint8_t>(checksum_ ^ b);
        std::fputc(b ^ key_, f_);
        key_ = key_ == 254 ? 1 : static_cast<std::uint8_t>(key_ + 1);
    }
    std::FILE* f_;
    std::uint8_t key_ = 1;
    std::uint8_t checksum_ = 0;
};

void Generate(const std::string& path, long pairs) {
    static const char* const en[] = {"the house", "the door",  "a big table", "the window",
                                     "my garden", "a kitchen", "her friend",  "the school"};
    static const char* const de[] = {"das Haus",
                                     "die T\xFCr",
                                     "ein gro\xDF"
                                     "er Tisch",
                                     "das Fenster",
                                     "mein Garten",
                                     "eine K\xFC"
                                     "che",
                                     "ihr Freund",
                                     "die Schule"};
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    CodedWriter w(f);
    w.Line("[General]");
    w.Line("English@Deutsch");
    const long perLesson = pairs / 100;
    for (int n = 1; n <= 100; ++n) {
        w.Line("[" + std::to_string(n) + "]");
        for (long k = 0; k < perLesson; ++k) {
            const std::string tag = " " + std::to_string(k % 100);
            std::string line =
                std::to_string(k) + "=" + en[k % 8] + tag + "@" + de[(k + n) % 8] + tag + "#";
            if (k % 3 != 0)
                line += k % 7 == 0 ? '\xA7' : '*';
            w.Line(line);
        }
    }
    w.Finish();
    std::fclose(f);
}

} // namespace

int main(int argc, char** argv) {
    const long startKb = PeakKb();
    const long pairs = argc > 1 ? std::atol(argv[1]) : 100'000;
    const auto path = std::filesystem::temp_directory_path() /
                      ("lexaro_langfile_memory_" + std::to_string(pairs) + ".lang");
    Generate(path.string(), pairs);
    const long fileKb = static_cast<long>(std::filesystem::file_size(path) / 1024);
    const long beforeKb = PeakKb();

    lexaro::TLangFHandler model;
    const bool ok = model.Load(path.string());
    const long afterKb = PeakKb();
    std::filesystem::remove(path);
    if (!ok) {
        std::fprintf(stderr, "the generated file does not load\n");
        return 1;
    }
    std::int64_t loaded = 0;
    for (const auto& lesson : model.lessons)
        loaded += lesson ? lesson->PairCount() : 0;
    std::printf("pairs loaded:          %lld\n", static_cast<long long>(loaded));
    std::printf("file size:             %ld KiB\n", fileKb);
    std::printf("peak RSS at start:     %ld KiB\n", startKb);
    std::printf("peak RSS before load:  %ld KiB\n", beforeKb);
    std::printf("peak RSS after load:   %ld KiB\n", afterKb);
    std::printf("growth by the load:    %ld KiB = %.2f x the file size (goal: at most 6)\n",
                afterKb - beforeKb,
                static_cast<double>(afterKb - beforeKb) / static_cast<double>(fileKb));
    return 0;
}
