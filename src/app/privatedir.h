#pragma once

#include <QString>

// Creates path, open to the user alone, when it is missing; an existing directory is left
// as the user set it up. Files of one user never go to a directory others can write.
void MakePrivateDirectory(const QString &path);
