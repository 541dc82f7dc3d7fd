// Test client: opens COUNT WebSocket connections to URL and prints one line per event.
// Ends by itself once every connection has closed, or after TIMEOUT_MS.
// Usage: node ws-clients.js URL COUNT TIMEOUT_MS
const WebSocket = require('ws');

const [url, countText, timeoutText] = process.argv.slice(2);
const count = parseInt(countText, 10);
let closed = 0;

const timer = setTimeout(() => {
    console.log('timeout');
    process.exit(2);
}, parseInt(timeoutText, 10));

for (let i = 0; i < count; ++i) {
    const socket = new WebSocket(url);
    socket.on('open', () => console.log(`open ${i}`));
    socket.on('message', (data, isBinary) =>
        console.log(`message ${i} ${isBinary ? 'binary' : 'text'} ${data.toString()}`));
    socket.on('error', (error) => console.log(`error ${i} ${error.message}`));
    socket.on('close', (code, reason) => {
        console.log(`close ${i} ${code} ${reason.toString()}`);
        if (++closed === count)
            clearTimeout(timer);
    });
}
