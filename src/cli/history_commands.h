#pragma once

#include <CLI/CLI.hpp>

namespace tonnage::cli {

void AddVerifyCommand(CLI::App& app, int& exitCode);
void AddHistoryCommand(CLI::App& app, int& exitCode);

}  // namespace tonnage::cli
