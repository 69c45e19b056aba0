list(APPEND SBQ_PAGES_CORE_SOURCES
  IpRecords.h IpRecords.cpp
  ClientIdText.h ClientIdText.cpp
  IssueRecord.h IssueRecord.cpp)
list(APPEND SBQ_PAGES_UI_SOURCES
  IpAddressEdit.h IpAddressEdit.cpp
  CPage_IP.h CPage_IP.cpp
  CPage_Issue.h CPage_Issue.cpp)
list(APPEND SBQ_PAGES_CORE_SOURCES IpFields.h IssueFields.h)
