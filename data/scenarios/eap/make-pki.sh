#!/bin/sh
# Remakes the test PKI of the default scenario's EAP-TLS and PEAP-TLS accounts: a CA and a
# client certificate for bob@orvane.example with its key (no password), valid to 2046-12-01.
# The users of Orvane-Corp in ../default.json carry the client certificate's SHA-1 (of the DER);
# after a remake, put the new one there (printed last).
set -eu
cd "$(dirname "$0")"
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout ca.key -out ca.pem \
  -subj "/O=Orvane Example/CN=Orvane Example Test CA" -days 7296 -sha256 \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign
openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout client.key -out client.csr \
  -subj "/O=Orvane Example/CN=bob@orvane.example"
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=clientAuth\nsubjectAltName=email:bob@orvane.example\n' > client.ext
openssl x509 -req -in client.csr -CA ca.pem -CAkey ca.key -set_serial 0x0f5a51d001 -days 7296 -sha256 \
  -extfile client.ext -out client.pem
rm -f client.csr client.ext
openssl x509 -in client.pem -outform DER | openssl sha1 -r | cut -d' ' -f1
