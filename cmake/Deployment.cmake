# Deployment settings: compiled into a generated header, each overridable at run time by the
# environment variable named in the README. Defaults point at the bundled update server.
set(UPDATER_SERVER_URL "http://127.0.0.1:8470" CACHE STRING "Base address of the update server (no trailing /)")
set(UPDATER_CONNECTION_TEST_URL "http://127.0.0.1:8470/" CACHE STRING "Address opened by the connection test")
set(UPDATER_INFO_URL "http://127.0.0.1:8470/updateproginfo.aspx" CACHE STRING "Address of the updater-information page")
set(UPDATER_LOCAL_SERVER_URL "http://127.0.0.1:8470" CACHE STRING "Server address taken over by the configuration dialog's local button")
set(UPDATER_SUPPORT_TELEPHONE "Telefon-Hotline: 0800 1234567" CACHE STRING "Support telephone text")
set(UPDATER_PASSWORD_CONSTANT_1 "4930172854610938275640192837465" CACHE STRING "Archive password constant (31 digits)")
set(UPDATER_PASSWORD_CONSTANT_2 "73920184756301928374650192837465019283746501928374650192837" CACHE STRING "Archive password constant (59 digits)")
set(UPDATER_PASSWORD_CONSTANT_3 "582039174650283917465028391746502839174650" CACHE STRING "Archive password constant (42 digits)")
set(UPDATER_WORKGROUP_PASSWORD "113,76,55,100" CACHE STRING "Password of the database workgroup user: its four character codes")
# The public key of the sample catalog's key pair (updateserver/sample-catalog/sample-signing-key,
# a sample only): a real build names the maker's own keys, or nothing for a server that does not sign.
set(UPDATER_SIGNING_KEYS "xrLn3HuB3q5WlYJxlJc7KiampLCNsNmv7pPYgvHFZa0=" CACHE STRING "The maker's Ed25519 public keys (base64, separated by blanks); empty: updates are not checked")

foreach(constant_and_length 1:31 2:59 3:42)
  string(REPLACE ":" ";" pair "${constant_and_length}")
  list(GET pair 0 index)
  list(GET pair 1 expected)
  set(value "${UPDATER_PASSWORD_CONSTANT_${index}}")
  string(LENGTH "${value}" actual)
  if(NOT actual EQUAL expected OR NOT value MATCHES "^[0-9]+$")
    message(FATAL_ERROR "UPDATER_PASSWORD_CONSTANT_${index} must be ${expected} digits")
  endif()
endforeach()

# The workgroup password never stands whole in the program: four decimal character codes.
# Build directories configured before carry the earlier plain default; move them on.
if(UPDATER_WORKGROUP_PASSWORD STREQUAL "quorlan")
  set(UPDATER_WORKGROUP_PASSWORD "113,76,55,100" CACHE STRING "Password of the database workgroup user: its four character codes" FORCE)
endif()
if(NOT UPDATER_WORKGROUP_PASSWORD MATCHES "^ *[0-9]+ *, *[0-9]+ *, *[0-9]+ *, *[0-9]+ *$")
  message(FATAL_ERROR "UPDATER_WORKGROUP_PASSWORD must be four character codes, e.g. 113,76,55,100")
endif()

# A mistyped key would make every update fail its check; refuse it here.
string(REGEX REPLACE "[ \t,;]+" ";" signing_keys "${UPDATER_SIGNING_KEYS}")
foreach(key IN LISTS signing_keys)
  string(LENGTH "${key}" key_length)
  if(NOT key STREQUAL "" AND (NOT key_length EQUAL 44 OR NOT key MATCHES "^[A-Za-z0-9+/]+=$"))
    message(FATAL_ERROR "UPDATER_SIGNING_KEYS: \"${key}\" is no Ed25519 public key in base64")
  endif()
endforeach()

configure_file(${CMAKE_CURRENT_LIST_DIR}/deployment_defaults.h.in
               ${CMAKE_BINARY_DIR}/generated/deployment_defaults.h @ONLY)
