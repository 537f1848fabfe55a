// Test seams of velpkg: a disk that fills up, and a change that fails, at a
// chosen point of an install or a removal.
#pragma once

// Staging may write this many bytes more, then fails as a full disk does;
// -1 lifts the limit.
void velpkg_limit_writes(long long bytes);

// The change to the device after `count` more succeed fails; -1 never.
void velpkg_fail_after_changes(int count);
