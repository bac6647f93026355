# Form tests written against the toolkit interface and the probe
# (tests/forms/probe.h) only: every toolkit's build runs them.
set(TOLVANE_SHARED_FORM_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/aboutbox_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mainform_drawing_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mainform_messages_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/smartcapture_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tuning_test.cpp)
