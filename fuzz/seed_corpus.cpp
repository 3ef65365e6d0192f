// Writes a fuzzers' seed corpus from a seed list (fuzz/seeds): one file a seed, named seed-NNN.
//   seed_corpus texts LIST DIR    each line as UTF-8 text, with \t \n \r \\ read as escapes
//   seed_corpus numbers LIST DIR  each line read by strtod, written as the eight bytes of the double

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

std::string Unescaped(const std::string& line) {
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
            text += line[i];
            continue;
        }
        const char c = line[++i];
        text += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "texts") != 0 && std::strcmp(argv[1], "numbers") != 0)) {
        std::cerr << "usage: seed_corpus texts|numbers LIST DIR\n";
        return 2;
    }
    const bool numbers = std::strcmp(argv[1], "numbers") == 0;
    std::ifstream list(argv[2]);
    if (!list) {
        std::cerr << "seed_corpus: cannot read " << argv[2] << "\n";
        return 1;
    }
    int count = 0;
    for (std::string line; std::getline(list, line);) {
        if (line.empty() || line.rfind("# ", 0) == 0) continue;
        std::string bytes = Unescaped(line);
        if (numbers) {
            const double x = std::strtod(line.c_str(), nullptr);
            bytes.assign(reinterpret_cast<const char*>(&x), sizeof x);
        }
        char name[32];
        std::snprintf(name, sizeof name, "/seed-%03d", ++count);
        std::ofstream file(argv[3] + std::string(name), std::ios::binary);
        if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
            std::cerr << "seed_corpus: cannot write into " << argv[3] << "\n";
            return 1;
        }
    }
    std::cout << "seed_corpus: " << count << " seeds in " << argv[3] << "\n";
    return 0;
}
