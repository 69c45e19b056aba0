list(APPEND SBQ_PAGES_CORE_SOURCES FineFields.h FineRecord.h FineRecord.cpp
  FineFieldFilter.h FineFieldFilter.cpp)
list(APPEND SBQ_PAGES_UI_SOURCES CPage_Set.h CPage_Set.cpp)
