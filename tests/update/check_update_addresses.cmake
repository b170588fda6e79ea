# Runs the configuration's address check on ORIGIN and WEBSITE (cmake -P); prints "accepted"
# when it lets them through.
list(APPEND CMAKE_MODULE_PATH "${CMAKE_CURRENT_LIST_DIR}/../../cmake")
include(TavrelUpdateAddresses)
tavrel_check_update_addresses("${ORIGIN}" "${WEBSITE}")
message(STATUS "accepted")
