// The texts a user reads about a failed sequential run: the engine's failure as data, and
// what only the program knows (who reads it, the file's name, the sizes it asked for).
#pragma once
#include <cstdint>
#include <string>
#include "core/SeqMessages.h"
#include "core/engines/Engine.h"

// Today's message of the failure, in the style of its reader; empty for an operation the
// sequential engine does not report.
std::string FormatSeqFailure(MessageStyle style, const C_EngineFailure& failure, const std::string& path,
                             uint32_t blockSize, uint64_t fileSize);
