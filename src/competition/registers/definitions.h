// Controls, courses and classes of the current competition: the register operations, the class
// sort key, the open-class test and the class computations of the reports.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"

namespace olbrax {

// Put, Rewrite and Delete are each one change (competition/registers/register_change.h): false
// when it was refused or failed, which the user has been shown.
void FindClassByName(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found);
void FindClassBySortKey(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found);
bool PutClass(bool adding, std::int32_t& ref);
bool RewriteClass(std::int32_t ref);
bool DeleteClass(bool by_ref, std::string_view name, std::int32_t ref, bool remove_record);

void FindControl(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found);
bool PutControl(bool adding, std::int32_t& ref);
bool RewriteControl(std::int32_t ref);
bool DeleteControl(bool by_ref, std::string_view code, std::int32_t ref, bool remove_record);

void FindCourse(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found);
bool PutCourse(bool adding, std::int32_t& ref);
bool RewriteCourse(std::int32_t ref);
bool DeleteCourse(bool by_ref, std::string_view name, std::int32_t ref, bool remove_record);

// Whether the class is open: its name begins with one of the competition's open-class words.
bool IsOpenClass(std::string_view class_name);
// The same with the words (blank-separated) given.
bool IsOpenClass(std::string_view class_name, std::string_view open_words);
// Computes KlassRec.SortOrdn from the class name.
void MakeClassSortKey();
// The sort key of a class name (the held and the stored form of the name).
Text ClassSortKey(std::string_view held_name, std::string_view stored_name);

std::int16_t ClassCapacity();
std::int32_t ClassTimeA();
std::int32_t ClassTimeB();
std::int32_t EntrantPace();

// The messages of the uniqueness and reference rules of the dialogs.
Text ControlExistsText(std::string_view code);
Text CourseExistsText(std::string_view name);
Text ControlMissingText(std::string_view code);

}  // namespace olbrax
