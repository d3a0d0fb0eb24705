#include "test_media.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>
#include <vector>

void WriteGarbageFile(const std::string& Path, size_t Bytes, uint32_t Seed) {
    // mt19937 is the same everywhere, so a seed names the same garbage on every machine.
    std::mt19937 Random(Seed);
    std::vector<char> Garbage(Bytes);
    for (char& Byte : Garbage)
        Byte = static_cast<char>(Random() & 0xFF);
    std::ofstream File(Path, std::ios::binary);
    File.write(Garbage.data(), static_cast<std::streamsize>(Garbage.size()));
    File.close();
    if (!File)
        throw std::runtime_error("cannot write test file " + Path);
}

void WriteTruncatedCopy(const std::string& From, const std::string& To, double Fraction) {
    if (!(Fraction >= 0 && Fraction <= 1))
        throw std::runtime_error("the fraction of " + From + " to keep is not in 0..1");
    std::ifstream Source(From, std::ios::binary);
    if (!Source)
        throw std::runtime_error("cannot read test file " + From);
    std::vector<char> Bytes((std::istreambuf_iterator<char>(Source)),
                            std::istreambuf_iterator<char>());
    const auto Kept = static_cast<std::streamsize>(static_cast<double>(Bytes.size()) * Fraction);
    std::ofstream File(To, std::ios::binary);
    File.write(Bytes.data(), Kept);
    File.close();
    if (!File)
        throw std::runtime_error("cannot write test file " + To);
}

TTempFolder::TTempFolder() {
    std::string Template =
        (std::filesystem::temp_directory_path() / "quillmoor-media-XXXXXX").string();
    if (!::mkdtemp(Template.data()))
        throw std::runtime_error("cannot create a temporary folder in " + Template);
    FRoot = Template;
}

TTempFolder::~TTempFolder() {
    std::error_code Ignored; // a destructor cannot report, and the folder is only litter
    std::filesystem::remove_all(FRoot, Ignored);
}
