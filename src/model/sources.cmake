list(APPEND KORVALO_CORE_SOURCES
  model/networkmodel.cpp model/networkmodel.h
  model/largebuffer.h
  model/result.h
  model/session.h
  model/status.h
  model/textutil.cpp model/textutil.h)
