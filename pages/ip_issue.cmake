list(APPEND SBQ_PAGES_SOURCES
  IpAddressEdit.h IpAddressEdit.cpp
  CPage_IP.h CPage_IP.cpp
  CPage_Issue.h CPage_Issue.cpp)
