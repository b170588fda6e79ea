# tavrel_check_update_addresses(<service origin> <website>): stops the configuration unless the
# update service is an https origin (scheme, host, optional port; the fixed path is appended)
# and the website is the root of an https site. The product has no plain-HTTP mode.
function(tavrel_check_update_addresses origin website)
    if(NOT origin MATCHES "^https://[A-Za-z0-9.-]+(:[0-9]+)?$")
        message(FATAL_ERROR "TAVREL_UPDATE_SERVICE_ORIGIN must be https://host[:port] without a "
                            "path, got \"${origin}\"")
    endif()
    if(NOT website MATCHES "^https://[A-Za-z0-9.-]+(:[0-9]+)?/?$")
        message(FATAL_ERROR "TAVREL_UPDATE_WEBSITE_URL must be the root of an https site "
                            "(https://host[:port]/), got \"${website}\"")
    endif()
endfunction()
