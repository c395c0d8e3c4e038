// The listings of the folders in which path resolution looks for a name in
// another letter case, kept between resolutions. A kept listing is used only
// while its folder is unchanged: the same folder (device and inode) with the
// same modification and change times as the caller's stat of it shows now.
// A folder changed within the last seconds before it was listed is listed
// again every time (its times may not move for a change made within the
// same step of the file system's clock).
#pragma once

#include <sys/stat.h>

#include <string>

// The first entry of `folder` (whose stat is `now`), in the order the system
// lists them, whose name equals `name` ignoring case; "" when none does.
// False when the folder cannot be listed.
bool RwOsFolderFindNoCase(const std::string &folder, const struct stat &now, const char *name, std::string *found);

// Forgets every kept listing.
void RwOsFolderListingsForget(void);
