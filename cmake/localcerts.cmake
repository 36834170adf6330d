# oradesk_local_certs(<target> <dir> <ca name> [UNTRUSTED])
# Generates, in <dir>, a CA (ca.pem) and a certificate for 127.0.0.1 signed by it
# (server.pem/.key) for a local HTTPS server; with UNTRUSTED also a self-signed one for
# 127.0.0.1 that nothing trusts (untrusted.pem/.key). <target> builds them.
find_program(OPENSSL_EXECUTABLE openssl REQUIRED)

function(oradesk_local_certs target dir caName)
    cmake_parse_arguments(ARG "UNTRUSTED" "" "" ${ARGN})
    file(MAKE_DIRECTORY ${dir})
    set(outputs ${dir}/ca.pem ${dir}/server.pem ${dir}/server.key)
    set(untrusted)
    if(ARG_UNTRUSTED)
        list(APPEND outputs ${dir}/untrusted.pem ${dir}/untrusted.key)
        set(untrusted COMMAND ${OPENSSL_EXECUTABLE} req -x509 -newkey rsa:2048 -nodes
            -days 3650 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1
            -keyout untrusted.key -out untrusted.pem)
    endif()
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${OPENSSL_EXECUTABLE} req -x509 -newkey rsa:2048 -nodes -days 3650
                -subj "/CN=${caName}" -keyout ca.key -out ca.pem
        COMMAND ${OPENSSL_EXECUTABLE} req -new -newkey rsa:2048 -nodes -subj /CN=127.0.0.1
                -addext subjectAltName=IP:127.0.0.1 -keyout server.key -out server.csr
        COMMAND ${OPENSSL_EXECUTABLE} x509 -req -in server.csr -CA ca.pem -CAkey ca.key
                -CAcreateserial -days 3650 -copy_extensions copy -out server.pem
        ${untrusted}
        WORKING_DIRECTORY ${dir}
        VERBATIM)
    add_custom_target(${target} DEPENDS ${outputs})
endfunction()
