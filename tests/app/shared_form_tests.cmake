# Form tests written against the toolkit interface and the probe
# (tests/forms/probe.h) only: every toolkit's build runs them. The smart
# capture tests read the images of a page that lies beyond the window's client
# area; only Qt keeps what is drawn there for a test to read.
set(TOLVANE_SHARED_FORM_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/aboutbox_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mainform_drawing_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mainform_messages_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tuning_test.cpp)
