// The scan's facts about one file as a row of an inventory document: the one place where the
// tool's typed facts become the document's plain members, so a fact the scan learns is added
// to documents, comparisons and checks here.
#pragma once

#include "common/file_facts.h"
#include "report/inventory_document.h"

namespace tambrel::cli {

report::InventoryRow inventoryRow(const FileFacts& facts);

} // namespace tambrel::cli
