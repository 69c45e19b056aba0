list(APPEND SBQ_PAGES_SOURCES CPage_Param1.h CPage_Param1.cpp)
