// Command files of the option parser, read line by line with C_File.
#pragma once
#include "cmd/Options.h"

class C_FileOptionSource : public C_OptionFileSource {
public:
    std::unique_ptr<C_OptionLineReader> Open(const std::string& name) override;
};
