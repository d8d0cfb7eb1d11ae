#pragma once
// Stands in for automation_base.idl in the header widl writes: the real declarations
// come from the Windows headers it has already included.
#include <windows.h>
#include <oaidl.h>
