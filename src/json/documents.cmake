# The documents that leave the tool: the order document with its order-file
# changes, the import tree, its streamer and the import document builder,
# the base64 attachment codec, the grid lines of the clipboard block, the
# file-name template and the actions that save, send and copy orders.
add_library(vx_documents STATIC
  ${CMAKE_CURRENT_LIST_DIR}/base64.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/custom_text_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_grid_lines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_name_template.cpp
  ${CMAKE_CURRENT_LIST_DIR}/import_document.cpp
  ${CMAKE_CURRENT_LIST_DIR}/local_clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/order_actions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/order_document.cpp
  ${CMAKE_CURRENT_LIST_DIR}/order_outputs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vx_bal_tree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vx_json.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vx_json_streamer.cpp)
target_link_libraries(vx_documents PUBLIC vx_json vx_hostlink vx_support)
