// What a login starts on a machine with the host install: the notification
// service's command from the packaged systemd user unit or autostart entry.
#pragma once

#include <string>
#include <vector>

// The command after `key` ("ExecStart=", "Exec=") in the packaged file
// `file` of `packaging_dir`, with the install folder of the programs
// replaced by where this build has them; empty when there is none.
std::vector<std::string> login_command(const std::string &packaging_dir, const char *file, const char *key);
