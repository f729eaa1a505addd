// The store's one versioned schema: the reports, DNS states, usage statistics and feedback, the
// overview's accounts, sessions and failed logins. Every store applies it at start.
#pragma once

#include <string>
#include <vector>

#include "store/database.h"

namespace kestrel::server {

const std::vector<Migration>& SchemaSteps();
// Applies the steps the store lacks, then fills the overview's columns of reports stored before
// they existed.
bool PrepareStore(Database& db, std::string& error);

}  // namespace kestrel::server
