// The store's failures as the user reads them, for every store of the program's
// settings (the settings file, the browser's local storage).
#pragma once

#include <string>

#include "interfaces.h"

namespace fw {

// The section's key cannot be made (or reached) before a write.
inline StoreError createKeyError(const std::string& section) {
    return StoreError("Failed to create key " + section);
}

// The value cannot be stored.
inline StoreError setDataError(const std::string& name) {
    return StoreError("Failed to set data for '" + name + "'");
}

}  // namespace fw
