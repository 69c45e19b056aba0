list(APPEND SBQ_PAGES_UI_SOURCES CPage_IP.h CPage_IP.cpp CPage_Issue.h CPage_Issue.cpp)
