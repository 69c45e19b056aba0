#pragma once

#include "fields/Field.h"

#include <string_view>
#include <vector>

// Every field of the four pages, described once.
namespace Fields {

// The pages in tab order, each page's fields in the order it shows them. Where one field's value
// depends on another (the client ID on its input type), that one comes first.
const std::vector<Field> &all();

std::vector<const Field *> ofPage(PageId page);

// The field with this key, or nothing.
const Field *find(std::string_view key);
// The field with this key, which the program knows to exist.
const Field &named(std::string_view key);
// The choice that gives a number its direction (the fine page's millimetre rows); nothing for a
// field without one.
const Field *directionOf(const Field &field);

// What the four pages write into `image` when they were given `loaded` and nobody edited a field:
// each field's value as its control holds it after the distribution, stored as the page stores it.
void storeUnedited(const SettingsImage &loaded, SettingsImage &image);

// "param", "fine", "ip", "issue": the first part of the page's keys.
std::string_view pageKey(PageId page);

}  // namespace Fields
