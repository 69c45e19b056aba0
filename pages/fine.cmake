list(APPEND SBQ_PAGES_UI_SOURCES CPage_Set.h CPage_Set.cpp)
