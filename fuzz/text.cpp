// The line reader and the tokenizer of every text file (list.dat, Actions.cfg, links) and of the
// scripts' strings: lines from the reader, each split the ways the game splits them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/PTextReader.h"
#include "core/PTokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CPTextReader reader(data, static_cast<int32_t>(size));
    std::string line;
    while (reader.ReadLine(line)) {
        reader.IsPlainLine();
        for (const char* delimiter : {" ", ";", ",", ", "}) {
            CPTokenizer tokenizer(line, delimiter, true);
            std::string token;
            while (tokenizer.NextToken(token)) {
            }
        }
    }
    return 0;
}
