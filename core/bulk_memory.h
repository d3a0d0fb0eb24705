#pragma once

#include <memory_resource>

// Memory for documents that may grow to many megabytes (a project of ten
// thousand clips is a text of about ten). Small requests go to the heap as
// usual; a large block is mapped with its pages made present in one call,
// instead of taking one page fault per page as it is first written, which
// on a virtual machine can cost more than building the document itself.
std::pmr::memory_resource* BulkMemory();
