// Reaching the device's sockets as any other program of the user can.
#pragma once

#include <string>

// A socket of `type` (SOCK_SEQPACKET, SOCK_STREAM) connected to `path`; -1
// when nothing listens there.
int connect_unix(const std::string &path, int type);
// A stream socket listening at `path`, as another program holding that name
// would; -1 when the name is taken.
int listen_unix(const std::string &path);
// The next connection to `listener`, or -1 when none came within `ms`.
int accept_within(int listener, int ms);
// The socket of the device's findable window (the last one listed when there
// are several); empty when there is none.
std::string window_socket_path(void);
