#pragma once
// The largest input a target tries unless -max_len is given on the command
// line: libFuzzer's own default (4096 bytes, or the largest seed) is far
// below the files and replies some targets read. Call from
// LLVMFuzzerInitialize, which runs before libFuzzer reads its flags.

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

inline void defaultMaxLen(int *argc, char ***argv, size_t bytes)
{
    for (int i = 1; i < *argc; ++i)
        if (std::strncmp((*argv)[i], "-max_len=", 9) == 0)
            return;
    static std::string flag;
    static std::vector<char *> args;
    flag = "-max_len=" + std::to_string(bytes);
    args.assign(*argv, *argv + *argc);
    args.insert(args.begin() + 1, flag.data());
    args.push_back(nullptr);
    *argc += 1;
    *argv = args.data();
}
