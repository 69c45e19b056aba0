list(APPEND SBQ_PAGES_CORE_SOURCES DecimalText.h DecimalText.cpp ParamRecord.h ParamRecord.cpp)
list(APPEND SBQ_PAGES_UI_SOURCES CPage_Param1.h CPage_Param1.cpp)
