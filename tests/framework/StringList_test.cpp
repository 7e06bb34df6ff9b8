#include <gtest/gtest.h>

#include "framework/Exceptions.h"
#include "framework/StringList.h"

namespace {

TStringList SortedIgnoringDuplicates() {
  TStringList list;
  list.Duplicates = TDuplicates::dupIgnore;
  list.SetSorted(true);
  return list;
}

std::vector<std::string> Contents(const TStringList& list) {
  std::vector<std::string> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list[i]);
  return items;
}

}  // namespace

TEST(StringList_Add, SortedListOrdersIgnoringCaseAndDropsEqualTexts) {
  TStringList list = SortedIgnoringDuplicates();
  for (const char* name : {"f.GIF", "b.jpeg", "a.JPG", "d.tif", "c.jpe", "A.jpg", "B.JPEG"}) list.Add(name);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a.JPG", "b.jpeg", "c.jpe", "d.tif", "f.GIF"}));
}

TEST(StringList_Add, ReadsBetweenAddsSeeTheListInOrder) {
  TStringList list = SortedIgnoringDuplicates();
  list.Add("m");
  list.Add("c");
  EXPECT_EQ(list.IndexOf("M"), 1);
  list.Add("a");
  list.Add("C");
  list.Add("z");
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "c", "m", "z"}));
  EXPECT_EQ(list.IndexOf("Q"), -1);
}

TEST(StringList_Add, FirstOfEqualTextsIsKept) {
  TStringList list = SortedIgnoringDuplicates();
  list.Add("x\\Photo.jpg");
  list.Add("x\\photo.jpg");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], "x\\Photo.jpg");
}

TEST(StringList_Add, UnsortedListKeepsOrderAndDuplicates) {
  TStringList list;
  for (const char* name : {"b", "a", "b"}) list.Add(name);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"b", "a", "b"}));
}

TEST(StringList_AddStrings, MergesAnotherSortedList) {
  TStringList list = SortedIgnoringDuplicates();
  TStringList other = SortedIgnoringDuplicates();
  list.Add("b");
  other.Add("c");
  other.Add("B");
  other.Add("a");
  list.AddStrings(other);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(StringList_Delete, RemovesOneEntryAndChecksTheIndex) {
  TStringList list = SortedIgnoringDuplicates();
  for (const char* name : {"a", "b", "c"}) list.Add(name);
  list.Delete(1);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "c"}));
  try {
    list.Delete(2);
    FAIL() << "no error";
  } catch (const EStringListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (2)");
  }
  EXPECT_THROW(list.Strings(-1), EStringListError);
}

TEST(StringList_Add, ManyNamesStayCorrect) {
  TStringList list = SortedIgnoringDuplicates();
  for (int i = 20000; i > 0; --i) list.Add("n" + std::to_string(i % 5000));
  ASSERT_EQ(list.Count(), 5000);
  for (int i = 1; i < list.Count(); ++i) EXPECT_LT(list[i - 1], list[i]);
}

TEST(StringList_Add, EqualTextsKeepTheirOrderWhenDuplicatesAreAccepted) {
  TStringList list;
  list.SetSorted(true);
  for (const char* name : {"b", "A", "B", "a"}) list.Add(name);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"A", "a", "b", "B"}));
}

TEST(StringList_SetSorted, SortsWhatTheListHoldsAndDropsItsDuplicates) {
  TStringList list;
  list.Duplicates = TDuplicates::dupIgnore;
  for (const char* name : {"c", "B", "b", "a"}) list.Add(name);
  list.SetSorted(true);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"a", "B", "c"}));
  EXPECT_EQ(list.IndexOf("C"), 2);
}

TEST(StringList_Clear, EmptiesTheListForANewBuild) {
  TStringList list = SortedIgnoringDuplicates();
  for (const char* name : {"b", "a"}) list.Add(name);
  list.Delete(0);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  for (const char* name : {"d", "C", "c"}) list.Add(name);
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"C", "d"}));
  EXPECT_EQ(list.IndexOf("D"), 1);
}
