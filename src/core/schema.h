#pragma once

namespace vorna {

class Database;

// Creates whatever tables and indexes the database lacks; existing rows are left alone.
void ensure_schema(Database& db);

} // namespace vorna
