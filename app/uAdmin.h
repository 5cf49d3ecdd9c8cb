#pragma once
// Whether this process runs with administrator rights: its access token
// holds the built-in Administrators group, not as deny-only.
// Raises EOSError when the group list cannot be read.
bool IsAdministrator();
