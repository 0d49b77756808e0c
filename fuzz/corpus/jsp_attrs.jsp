1<html>
<body>
<a href="<%= url %>">link</a>
<img src=<%= pic %> alt="<%= alt %>">
<jsp:include page="footer.jsp" flush="true"/>
<%@ taglib uri="tags" prefix="t" %><%@ include file="x.jsp" %>
</body>
</html>
