// SQL Server's linked servers: the server of the table's owner string, and the remote machine
// (option remotemachinename), are made known to the server as linked servers with DATA
// ACCESS, so that the key loader's sp_indexes can name them.
#pragma once

#include <cstdint>

namespace upkeep_sql {

// Links LinkedServerName and the remote machine when neither is listed yet, and switches DATA
// ACCESS on for each that lacks it. A remote machine without an instance takes the owner
// server's ("PC7" and "SRV1\SALES" give "PC7\SALES", kept for the run). Failures are reported
// (M35, M36 at level 1), never returned: the result is always 0.
std::int32_t ds_MSSLinkedServer();

}  // namespace upkeep_sql
