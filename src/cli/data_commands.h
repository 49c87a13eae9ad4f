#pragma once

#include <CLI/CLI.hpp>

namespace tonnage::cli {

// `check FILE`: what Open reads from a data file. Exit 0, or 1 when refused.
void AddCheckCommand(CLI::App& app, int& exitCode);
// `resave FILE -o OUT`: what Open then Save As would write.
void AddResaveCommand(CLI::App& app, int& exitCode);

}  // namespace tonnage::cli
