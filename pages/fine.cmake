list(APPEND SBQ_PAGES_SOURCES CPage_Set.h CPage_Set.cpp)
