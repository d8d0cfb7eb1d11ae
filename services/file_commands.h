#pragma once
// The create-directory, write-file and INI-write services, on the runtime-service
// convention, over the typed core in services/files.h. None raises a run-time
// error; each reports failure only as false.
#include "services/service_convention.h"

namespace services {

// (path) -> logical: creates the last component of the path; false when it exists
// already or its parent is missing.
TypedValue create_directory_service(uint32_t count, const TypedValue* arguments);

// (path, byte array...) -> logical: the file's whole content becomes the arrays'
// bytes back to back, in argument order; arrays of length zero or below add nothing,
// and a path alone leaves an empty file. The bytes go to a temporary file in the same
// folder that replaces the target only once it is complete and closed, so a failure
// (the target held open by another process or read-only, a full disk, a missing
// folder) gives false and leaves the old file as it was, with no temporary file
// behind.
TypedValue write_file_service(uint32_t count, const TypedValue* arguments);

// (file, section, key?, value?) -> logical: sets key=value in the section; an
// omitted value removes the key, an omitted key removes the whole section.
TypedValue ini_write_service(uint32_t count, const TypedValue* arguments);

}  // namespace services
