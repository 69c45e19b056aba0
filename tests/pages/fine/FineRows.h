#pragma once

#include "fields/FieldTable.h"

#include <vector>

// The fine page's rows, as the page shows them: its number fields, in order (their directions
// are Fields::directionOf them).
inline std::vector<const Fields::Field *> fineRows()
{
    std::vector<const Fields::Field *> numbers;
    for (const Fields::Field *field : Fields::ofPage(Fields::PageId::Fine)) {
        if (field->kind == Fields::Kind::Number)
            numbers.push_back(field);
    }
    return numbers;
}
