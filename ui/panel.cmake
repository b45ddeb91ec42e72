# Controller page, version label texts, about box and the program's picture.
target_sources(padscope_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/controller_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/link_label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/about_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_icon.cpp
)
