// Test helper: listens on HOST:PORT, prints "listening", and stays until killed (at most TIMEOUT_MS).
// Usage: node port-holder.js HOST PORT TIMEOUT_MS
const net = require('net');

const [host, port, timeout] = process.argv.slice(2);
const server = net.createServer((socket) => socket.destroy());
server.on('error', (error) => {
    console.log(`error ${error.message}`);
    process.exit(1);
});
server.listen(parseInt(port, 10), host, () => console.log('listening'));
setTimeout(() => process.exit(0), parseInt(timeout, 10));
