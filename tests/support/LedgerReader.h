#pragma once
// The tests' one reader of the operator's ledger: every day file of a folder, split as a
// spreadsheet splits it (quoted fields with commas, quotes and line breaks, CRLF line ends),
// the byte-order mark and the header left out.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using LedgerFields = std::vector<std::string>;           // the fields in the header's order
using LedgerRecord = std::map<std::string, std::string>; // the fields by the header's names

std::vector<LedgerFields> ParseCsv(const std::string& bytes);
// The lines of every day file in `folder`, files in name order.
std::vector<LedgerFields> ReadLedgerRows(const std::filesystem::path& folder);
std::vector<LedgerRecord> ReadLedger(const std::filesystem::path& folder);
